-- The trophy shown at the prize-giving: it turns slowly about its vertical
-- axis while it is awake, and gives a quicker turn when the crowd cheers.

local TURN_SPEED = 0.9          -- radians per second
local CHEER_SPEED = 2.4         -- radians per second while the crowd cheers
local CHEER_DURATION = 1500     -- milliseconds

local spinning = false
local lastTime = 0
local cheerUntil = 0

local function now()
    return kem.getTimerTool():getTimeMs()
end

local function trophy()
    return script.getThis():getKEMSceneNode()
end

function FirstManageCall(name)
    local node = trophy()
    node:VMSetLife("Spin")
    node:VMOnEvent("highPositiveReac", "OnCheer")
    node:VMOnEvent("mediumPositiveReac", "OnCheer")
    node:VMOnEvent("lowPositiveReac", "OnCheer")
    spinning = true
    lastTime = now()
end

function Spin(frame)
    local time = now()
    local elapsed = time - lastTime
    lastTime = time
    if not spinning or elapsed <= 0 then
        return
    end
    local speed = TURN_SPEED
    if time < cheerUntil then
        speed = CHEER_SPEED
    end
    local angle = speed * elapsed / 1000
    trophy():rotate(kem.Quaternion(kem.Radian(angle), kem.Vector3(0, 1, 0)), 0)
end

function OnCheer(argument)
    cheerUntil = now() + CHEER_DURATION
    return 0
end

function OnWakeUp(sender, argument)
    spinning = true
    lastTime = now()
end

function OnSleep(sender, argument)
    spinning = false
end

function Term(frame)
    spinning = false
end
