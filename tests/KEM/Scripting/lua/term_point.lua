-- Term asks the point for its debug marker, then reports that it ran.
function Term(frames)
    script.getThis():getKEMSceneNode():setDebugMode(true)
    error("term ran on a point")
end
