function SetValue(v)
    value = v
end

function GetValue()
    return value or -1
end
