-- Term reaches the object part of its node, then reports that it ran.
function Term(frames)
    local object = script.getThis():getKEMSceneObject()
    local index = object:getCurrentAnimIndex()
    error("term ran on an object, animation " .. index)
end
