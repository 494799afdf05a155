-- Loads a session made by new_session.lua, puts a VST 2 plug-in first on the track "in" and
-- saves, so that Ardour's GUI opens the session with the plug-in in place.
-- Usage: ardour7-lua add_plugin.lua SESSION_DIR SESSION_NAME PLUGIN_NAME
-- Prints "ADD-OK" as its last line on success and "FAIL: <reason>" otherwise.

local dir, name, plugin_name = arg[1], arg[2], arg[3]

local function run()
  if AudioEngine:set_backend("None (Dummy)", "", "") == nil then
    return "the dummy audio backend is not available"
  end
  if load_session(dir, name) == nil or Session == nil then return "cannot load " .. dir end
  local track = Session:route_by_name("in")
  if track:isnil() then return "the session has no track 'in'" end
  local proc = ARDOUR.LuaAPI.new_plugin(Session, plugin_name, ARDOUR.PluginType.LXVST, "")
  if proc:isnil() then return "Ardour did not find the plug-in '" .. plugin_name .. "'" end
  if track:add_processor_by_index(proc, 0, nil, true) ~= 0 then
    return "Ardour refused to insert the plug-in on the track"
  end
  if Session:save_state("", false, false, false, false, false) ~= 0 then
    return "could not save the session"
  end
  return nil
end

local ok, err = pcall(run)
if not ok then err = tostring(err) end
if err then print("FAIL: " .. err) else print("ADD-OK") end
io.stdout:flush()
if Session then close_session() end
