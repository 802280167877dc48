-- Each node renames itself through its own machine; Visit calls another
-- scripted node and then checks that getThis still answers for this one.
function FirstManageCall(name)
    firstName = name
end

function Rename(suffix)
    local node = script.getThis():getKEMSceneNode()
    node:setName(node:getName() .. "_" .. (suffix or ""))
    return node:getKEM_NodeType()
end

function Visit()
    local other = kem.getScenaricMgr():getObjectByName("other")
    if other == nil then
        return -1
    end
    other:VMCallTerm()
    if script.getThis():getKEMSceneNode():getName() == firstName then
        return 1
    end
    return 0
end

function Term(frame)
    terms = (terms or 0) + 1
    script.getThis():getKEMSceneNode():setName("terminated")
end
