function Fine()
    return 1
end

function Broken(
    return 2
end
