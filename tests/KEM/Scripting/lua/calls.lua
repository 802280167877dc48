-- Arguments, results and the node's entry points.
calls = 0

function Sum(a, b, text)
    calls = calls + 1
    return a + b + #text
end

function IsFloat(x)
    return x ~= 0.1 and math.abs(x - 0.1) < 1e-6
end

function Yes()
    return true
end

function Text()
    return "not a number"
end

function Calls()
    return calls
end

function Life(frame)
    lifeFrame = frame
end

function OnGoal(argument)
    goal = argument
    return argument * 2
end

function OnWakeUp(sender, argument)
    woken = sender .. ":" .. argument
end

function OnSleep(sender, argument)
    slept = sender .. ":" .. argument
end

function Check(what)
    if what == 1 then return lifeFrame end
    if what == 2 then return goal end
    if what == 3 then return woken == "sender:3" end
    if what == 4 then return slept == "sender:4" end
    return nil
end

function Register()
    local node = script.getThis():getKEMSceneNode()
    node:VMSetLife("Life")
    node:VMOnEvent("Goal", "OnGoal")
end
