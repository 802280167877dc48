loaded = 1

function Nil()
    local t = nil
    return t.field
end

function Raise()
    error("raised on purpose")
end

function RaiseTable()
    error({})
end

function BadArgument()
    script.getThis():getKEMSceneNode():setName(1, 2, 3)
end

function StillAlive()
    return loaded
end

local broken = nil
broken.call()

function NeverDefined()
    return 0
end
