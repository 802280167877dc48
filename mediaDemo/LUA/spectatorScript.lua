-- A spectator of the crowd: it reacts to the referee's verdict on each throw
-- with the matching animation, then goes back to watching.

local IDLE = "SPEC_IDLE"

-- Crowd event -> handler name and animation.
local REACTIONS = {
    { event = "spectatorApplause",  handler = "OnApplause",          anim = "SPEC_APPLAUSE" },
    { event = "highPositiveReac",   handler = "OnHighPositiveReac",  anim = "SPEC_HIGH_POSITIVE" },
    { event = "mediumPositiveReac", handler = "OnMediumPositiveReac", anim = "SPEC_MEDIUM_POSITIVE" },
    { event = "lowPositiveReac",    handler = "OnLowPositiveReac",   anim = "SPEC_LOW_POSITIVE" },
    { event = "highNegativeReac",   handler = "OnHighNegativeReac",  anim = "SPEC_HIGH_NEGATIVE" },
    { event = "mediumNegativeReac", handler = "OnMediumNegativeReac", anim = "SPEC_MEDIUM_NEGATIVE" },
    { event = "lowNegativeReac",    handler = "OnLowNegativeReac",   anim = "SPEC_LOW_NEGATIVE" },
}

local reacting = nil    -- the reaction animation being played, if any
local awake = true

-- The spectator's mesh may lack an animation (or the node may not be a scene
-- object at all): the spectator then simply stays as it is.
local function animate(method, ...)
    local spectator = script.getThis():getKEMSceneObject()
    if spectator == nil or spectator[method] == nil then
        return nil
    end
    local ok, result = pcall(spectator[method], spectator, ...)
    if ok then
        return result
    end
    return nil
end

local function react(anim)
    if not awake then
        return 0
    end
    reacting = anim
    animate("playAnimBlending", anim, 0.2, 0.3, false)
    return 0
end

for _, reaction in ipairs(REACTIONS) do
    local anim = reaction.anim
    _G[reaction.handler] = function(argument)
        return react(anim)
    end
end

function FirstManageCall(name)
    local node = script.getThis():getKEMSceneNode()
    for _, reaction in ipairs(REACTIONS) do
        node:VMOnEvent(reaction.event, reaction.handler)
    end
    node:VMSetLife("Watch")
    animate("playAnimBlending", IDLE, 0, 0, true)
end

-- Back to watching once a reaction has played out.
function Watch(frame)
    if reacting ~= nil and animate("isAnimOver", reacting) ~= false then
        reacting = nil
        animate("playAnimBlending", IDLE, 0.3, 0.3, true)
    end
end

function OnWakeUp(sender, argument)
    awake = true
    animate("playAnimBlending", IDLE, 0.3, 0.3, true)
end

function OnSleep(sender, argument)
    awake = false
    reacting = nil
    animate("pauseAnim", IDLE)
end

function Term(frame)
    reacting = nil
    animate("stopAnim", IDLE)
end
