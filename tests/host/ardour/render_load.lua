-- Loads a prepared session with several tracks, inserts the same VST 2 plug-in on every
-- track, draws automation for a set of its parameters over the whole render, lets Ardour
-- play it back while rendering the session range to a float WAV, and takes the plug-ins
-- out again.
-- Usage: ardour7-lua render_load.lua SESSION_DIR SESSION_NAME PLUGIN_NAME OUT_DIR FRAMES
--                                    TRACKS PARAM...
-- The tracks are named "in", "in2" ... "inTRACKS"; PARAM is a parameter index to automate.
-- Prints what it did, "FAIL: <reason>" on any failure and "RENDER-OK" as its last line on
-- success: the interpreter's exit status does not tell a failed script from a good one.

local dir, name, plugin_name, out_dir = arg[1], arg[2], arg[3], arg[4]
local frames, tracks = tonumber(arg[5]), tonumber(arg[6])
local params = {}
for i = 7, #arg do params[#params + 1] = tonumber(arg[i]) end

local PRESET_ID = "5c7e6a0e-8a1d-4f0b-9a55-0d3c2b1e7f42"
local POINTS = 24

local function track_named(wanted)
  for r in Session:get_routes():iter() do
    if r:name() == wanted and not r:to_track():isnil() then return r end
  end
  return nil
end

local function insert_plugin(track)
  local proc = ARDOUR.LuaAPI.new_plugin(Session, plugin_name, ARDOUR.PluginType.LXVST, "")
  if proc:isnil() then return nil, "Ardour did not find the plug-in '" .. plugin_name .. "'" end
  if track:add_processor_by_index(proc, 0, nil, true) ~= 0 then
    return nil, "Ardour refused to insert the plug-in on " .. track:name()
  end
  track:panner_shell():set_bypassed(true)
  return proc, nil
end

-- A zig-zag over the parameter's whole range, different on every track, played back.
local function automate(proc, index, salt)
  local al, cl, pd = ARDOUR.LuaAPI.plugin_automation(proc, index)
  if al:isnil() then return "parameter " .. index .. " has no automation list" end
  for i = 0, POINTS - 1 do
    local at = Temporal.timepos_t(math.floor(frames * i / (POINTS - 1)))
    local t = ((i + salt) % 5) / 4
    cl:add(at, pd.lower + t * (pd.upper - pd.lower), false, true)
  end
  local ac = proc:to_automatable():automation_control(
    Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, index), false)
  if ac:isnil() then return "parameter " .. index .. " has no automation control" end
  ac:set_automation_state(ARDOUR.AutoState.Play)
  return nil
end

exporter = nil  -- see render.lua: kept alive until the interpreter exits

local function export()
  exporter = Session:simple_export()
  local e = exporter
  e:set_name("render")
  e:set_folder(out_dir)
  e:set_range(0, frames)
  if not e:set_preset(PRESET_ID) then return "the float WAV export preset was not found" end
  if not e:check_outputs() then return "the export has no outputs to render" end
  if not e:run_export() then return "the export failed" end
  return nil
end

local function run()
  if not (dir and name and plugin_name and out_dir and frames and tracks) then
    return "usage: render_load.lua DIR NAME PLUGIN OUT_DIR FRAMES TRACKS PARAM..."
  end
  if AudioEngine:set_backend("None (Dummy)", "", "") == nil then
    return "the dummy audio backend is not available"
  end
  if load_session(dir, name) == nil or Session == nil then return "could not load the session" end
  local procs = {}
  for k = 1, tracks do
    local track = track_named(k == 1 and "in" or ("in" .. k))
    if track == nil then return "the session has no track number " .. k end
    local proc, err = insert_plugin(track)
    if err then return err end
    for _, index in ipairs(params) do
      err = automate(proc, index, k)
      if err then return err end
    end
    proc:to_insert():clear_stats()
    local before = {}
    for _, index in ipairs(params) do before[index] = ARDOUR.LuaAPI.get_processor_param(proc, index) end
    procs[#procs + 1] = {track = track, proc = proc, before = before}
  end
  print(string.format("plugins: %d instances of '%s', %d parameters automated on each",
    #procs, plugin_name, #params))
  local err = export()
  if err then return err end
  for _, p in ipairs(procs) do
    local ran, stats = p.proc:to_insert():get_stats(0, 0, 0, 0)
    print(string.format("plugin on '%s': ran=%s (%.1f us per block on average)",
      p.track:name(), tostring(ran), ran and stats[3] or 0))
    if not ran then return "the plug-in on " .. p.track:name() .. " did not run during the render" end
    -- Played-back automation reached the plug-in: its own answers changed.
    local moved = 0
    for _, index in ipairs(params) do
      if ARDOUR.LuaAPI.get_processor_param(p.proc, index) ~= p.before[index] then moved = moved + 1 end
    end
    print(string.format("plugin on '%s': %d of %d automated parameters moved", p.track:name(),
      moved, #params))
    if #params > 0 and moved == 0 then
      return "no automated parameter of the plug-in on " .. p.track:name() .. " moved"
    end
  end
  for _, p in ipairs(procs) do
    if p.track:remove_processor(p.proc, nil, true) ~= 0 then
      return "Ardour refused to remove the plug-in from " .. p.track:name()
    end
  end
  return nil
end

local ok, err = pcall(run)
if not ok then err = tostring(err) end
collectgarbage()
if err then print("FAIL: " .. err) else print("RENDER-OK") end
io.stdout:flush()
if Session then close_session() end
