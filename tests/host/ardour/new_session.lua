-- Creates an empty session with one stereo audio track named "in" and saves it, so that the
-- test signal can be placed on the track's playlist before the render step loads it again.
-- Usage: ardour7-lua new_session.lua SESSION_DIR SESSION_NAME SAMPLE_RATE [TRACKS]
-- With TRACKS > 1 the further stereo tracks are named "in2", "in3" ...
-- Prints "SESSION-OK" as its last line on success and "FAIL: <reason>" otherwise: the
-- interpreter's exit status does not tell a failed script from a good one.

local dir, name, rate = arg[1], arg[2], tonumber(arg[3])
local count = tonumber(arg[4] or "1")

-- Ardour connects a new track's outputs to the master bus from a background thread, so a save
-- straight after creating the track sometimes stores a track whose outputs lead nowhere, and
-- every render of that session is silent. The connection is therefore made here and checked
-- before saving.
local function connect_to_master(track)
  local master = Session:master_out()
  if master:isnil() then return "the session has no master bus" end
  for c = 0, 1 do
    local out, dest = track:output():audio(c), master:input():audio(c)
    if out:isnil() or dest:isnil() then return "the track or the master bus lacks channel " .. (c + 1) end
    if not out:connected_to(dest:name()) then track:output():connect(out, dest:name(), nil) end
    if not out:connected_to(dest:name()) then
      return "cannot connect " .. out:name() .. " to " .. dest:name()
    end
  end
  return nil
end

local function run()
  if not (dir and name and rate) then return "usage: new_session.lua DIR NAME RATE" end
  -- The dummy backend needs no sound card; ardour7-lua does not list it among the available
  -- backends, but selecting it by name works.
  if AudioEngine:set_backend("None (Dummy)", "", "") == nil then
    return "the dummy audio backend is not available"
  end
  if create_session(dir, name, rate) == nil or Session == nil then
    return "could not create a session in " .. dir
  end
  -- Inputs are left unconnected: the track plays its region, and nothing from the dummy
  -- backend's capture ports may reach the render.
  for k = 1, count do
    local tracks = Session:new_audio_track(2, 2, nil, 1, k == 1 and "in" or ("in" .. k),
      ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, false)
    if tracks:size() ~= 1 then return "could not create stereo track " .. k end
    local err = connect_to_master(tracks:front())
    if err then return err end
  end
  if Session:save_state("", false, false, false, false, false) ~= 0 then
    return "could not save the session"
  end
  return nil
end

local ok, err = pcall(run)
if not ok then err = tostring(err) end
-- The verdict is printed and flushed before the session closes: ardour7-lua sometimes
-- crashes while shutting down (with or without any plug-in loaded), and a crash would lose
-- buffered output.
if err then print("FAIL: " .. err) else print("SESSION-OK") end
io.stdout:flush()
if Session then close_session() end
