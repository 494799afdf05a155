-- Loads the prepared session, inserts a VST 2 plug-in on the track "in" by name, sets and
-- reads back parameters, and renders the session range to a 32-bit float WAV.
-- Usage: ardour7-lua render.lua SESSION_DIR SESSION_NAME PLUGIN_NAME OUT_DIR FRAMES [CHECK...]
-- The environment can change three things (the LV2 test uses them):
--   VIRLEX_PLUGIN_TYPE=LV2      the plug-in is an LV2 one (found by name or URI); its
--                               parameters are set and read in real units, not 0..1
--   VIRLEX_PLUGIN_ON_TRACK=1    the session already holds the plug-in first on the track:
--                               it is used instead of inserting another
--   VIRLEX_SAVE_AFTER=1         after the render the session is saved with the plug-in on
--                               the track, instead of taking the plug-in out
-- CHECK is one of
--   name:INDEX:TEXT             the parameter's name must be TEXT
--   set:INDEX:VALUE:EXPECTED    set the normalised VALUE, then read back EXPECTED (+-1e-5);
--                               applied in the order given
--   get:INDEX:EXPECTED          read back EXPECTED (+-1e-5) without setting anything
-- Prints what it saw (plug-in name, ports, parameter values), "FAIL: <reason>" on any
-- failure and "RENDER-OK" as its last line on success: the interpreter's exit status does
-- not tell a failed script from a good one.

local dir, name, plugin_name, out_dir, frames = arg[1], arg[2], arg[3], arg[4], tonumber(arg[5])
local checks = {}
for i = 6, #arg do checks[#checks + 1] = arg[i] end
local plugin_type = os.getenv("VIRLEX_PLUGIN_TYPE") == "LV2" and ARDOUR.PluginType.LV2
  or ARDOUR.PluginType.LXVST
local on_track = os.getenv("VIRLEX_PLUGIN_ON_TRACK") == "1"
local save_after = os.getenv("VIRLEX_SAVE_AFTER") == "1"

-- Export preset written by the test driver into the private configuration folder.
local PRESET_ID = "5c7e6a0e-8a1d-4f0b-9a55-0d3c2b1e7f42"

local function find_track()
  for r in Session:get_routes():iter() do
    if r:name() == "in" and not r:to_track():isnil() then return r end
  end
  return nil
end

local function insert_plugin(track)
  if on_track then
    local proc = track:nth_plugin(0)
    if proc:isnil() then return nil, "the session holds no plug-in on the track" end
    return proc, nil
  end
  -- Ardour finds a VST 2 only when it was scanned (cache file) and its folder is on
  -- LXVST_PATH (an LV2 only when its bundle is on LV2_PATH); otherwise new_plugin returns a
  -- nil processor and says nothing else (and handing that nil processor to
  -- add_processor_by_index crashes the interpreter).
  local proc = ARDOUR.LuaAPI.new_plugin(Session, plugin_name, plugin_type, "")
  if proc:isnil() then return nil, "Ardour did not find the plug-in '" .. plugin_name .. "'" end
  -- Position 0 puts it first on the track, before the fader.
  if track:add_processor_by_index(proc, 0, nil, true) ~= 0 then
    return nil, "Ardour refused to insert the plug-in on the track"
  end
  if track:nth_plugin(0):isnil() or not track:nth_plugin(0):sameinstance(proc) then
    return nil, "the plug-in is not on the track after insertion"
  end
  return proc, nil
end

local function describe(proc)
  local insert = proc:to_insert()
  local plugin = insert:plugin(0)
  print(string.format("plugin: name='%s' label='%s' unique-id=%s parameters=%d",
    plugin:name(), plugin:label(), plugin:unique_id(), plugin:parameter_count()))
  print(string.format("plugin: natural inputs=%d outputs=%d, instances=%d, active=%s",
    insert:natural_input_streams():n_audio(), insert:natural_output_streams():n_audio(),
    insert:get_count(), tostring(proc:active())))
  return plugin
end

local function split(s)
  local parts = {}
  for p in string.gmatch(s, "[^:]+") do parts[#parts + 1] = p end
  return parts
end

local function run_check(proc, plugin, check)
  local p = split(check)
  local index = tonumber(p[2])
  if index == nil or index < 0 or index >= plugin:parameter_count() then
    return "bad check or parameter index out of range: " .. check
  end
  if p[1] == "name" and #p == 3 then
    local got = plugin:parameter_label(index)
    print(string.format("param %d name='%s'", index, got))
    if got ~= p[3] then return string.format("parameter %d is named '%s', expected '%s'", index, got, p[3]) end
  elseif p[1] == "set" and #p == 4 then
    local value, expected = tonumber(p[3]), tonumber(p[4])
    if not ARDOUR.LuaAPI.set_processor_param(proc, index, value) then
      return "Ardour refused to set parameter " .. index
    end
    -- The read-back goes through Ardour to the plug-in's own getParameter, so a value the
    -- plug-in adjusted (snapped to a step, clamped) comes back adjusted.
    local got = ARDOUR.LuaAPI.get_processor_param(proc, index)
    -- An LV2 plug-in's labels are numbered by port, not by parameter: none is shown.
    local label = plugin_type == ARDOUR.PluginType.LXVST and plugin:parameter_label(index) or ""
    print(string.format("param %d '%s' set %.6f read %.6f", index, label, value, got))
    if math.abs(got - expected) > 1e-5 then
      return string.format("parameter %d read back %.6f, expected %.6f", index, got, expected)
    end
  elseif p[1] == "get" and #p == 3 then
    local expected = tonumber(p[3])
    local got = ARDOUR.LuaAPI.get_processor_param(proc, index)
    print(string.format("param %d read %.6f", index, got))
    if math.abs(got - expected) > 1e-5 then
      return string.format("parameter %d reads %.6f, expected %.6f", index, got, expected)
    end
  else
    return "bad check: " .. check
  end
  return nil
end

-- Ardour 7.3 sometimes double-frees inside the export object's destructor when Lua collects
-- it (PortExportChannel::~PortExportChannel, "double free or corruption"), whether or not a
-- plug-in is loaded. Keeping it referenced from here moves that to the interpreter's exit,
-- after the verdict has been printed.
exporter = nil

local function export(frames)
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
  if not (dir and name and plugin_name and out_dir and frames) then
    return "usage: render.lua DIR NAME PLUGIN OUT_DIR FRAMES [CHECK...]"
  end
  if AudioEngine:set_backend("None (Dummy)", "", "") == nil then
    return "the dummy audio backend is not available"
  end
  if load_session(dir, name) == nil or Session == nil then return "could not load the session" end
  local track = find_track()
  if track == nil then return "the session has no track named 'in'" end
  local playlist = track:to_track():playlist()
  print(string.format("track: '%s' inputs=%d regions=%d", track:name(),
    track:n_inputs():n_audio(), playlist:n_regions()))
  if playlist:n_regions() ~= 1 then return "the test signal's region is not on the track" end
  local master = Session:master_out()
  for c = 0, 1 do
    local dest = master:input():audio(c):name()
    if not track:output():audio(c):connected_to(dest) then
      return "track output " .. (c + 1) .. " is not connected to " .. dest .. ": the render would be silent"
    end
  end

  local proc, err = insert_plugin(track)
  if err then return err end
  -- Without a panner each track channel goes to the master channel of the same number; the
  -- default stereo panner would be a gain stage of its own between plug-in and render.
  track:panner_shell():set_bypassed(true)
  local plugin = describe(proc)
  for _, check in ipairs(checks) do
    err = run_check(proc, plugin, check)
    if err then return err end
  end
  -- Still on the track after the parameter changes, and still first.
  if not track:nth_plugin(0):sameinstance(proc) then return "the plug-in left the track" end
  -- Ardour times every run of an insert; statistics after the render show that the
  -- plug-in itself processed the audio, not a bypass that would pass it just the same.
  proc:to_insert():clear_stats()
  err = export(frames)
  if err then return err end
  local ran, stats = proc:to_insert():get_stats(0, 0, 0, 0)
  print(string.format("plugin: active=%s after the render, ran=%s (%.1f us per block on average)",
    tostring(proc:active()), tostring(ran), ran and stats[3] or 0))
  if not proc:active() or not ran then return "the plug-in did not run during the render" end
  if save_after then
    if Session:save_state("", false, false, false, false, false) ~= 0 then
      return "could not save the session"
    end
    print("session: saved with the plug-in on the track")
    return nil
  end
  -- Take the plug-in out again while the host keeps running, so that its close is part of
  -- the run: Ardour closes the instance once the last reference to the insert is gone.
  if track:remove_processor(proc, nil, true) ~= 0 then return "Ardour refused to remove the plug-in" end
  return nil
end

local ok, err = pcall(run)
if not ok then err = tostring(err) end
collectgarbage()  -- drops the script's references to the removed plug-in
-- The verdict is printed and flushed before the session closes: ardour7-lua sometimes
-- crashes while shutting down (with or without any plug-in loaded), and a crash would lose
-- buffered output. The render file is complete by now.
if err then print("FAIL: " .. err) else print("RENDER-OK") end
io.stdout:flush()
if Session then close_session() end
