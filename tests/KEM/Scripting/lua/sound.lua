-- Drives the sound node it is attached to.
function SoundClass()
    local node = script.getThis():getKEMSceneNode()
    return node.play ~= nil and node.stop ~= nil and node.pause ~= nil and node.setResource ~= nil
end

function PlayOther()
    local node = script.getThis():getKEMSceneNode()
    node:setResource("other.wav")
    node:play()
    node:pause()
    node:stop()
    return true
end
