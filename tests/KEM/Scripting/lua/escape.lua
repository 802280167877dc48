-- A script reaching for what scene scripts are not given: each check returns
-- true when the door stays shut.

function NoFilesOrPrograms()
    return io == nil and os == nil and package == nil and debug == nil and require == nil
end

-- dofile and loadfile of a path outside the script folder fail, and nothing
-- of that file runs.
function NoDofile(path)
    local ok = pcall(dofile, path)
    return not ok and escaped == nil
end

function NoLoadfile(path)
    local chunk, message = loadfile(path)
    return chunk == nil and type(message) == "string" and escaped == nil
end

-- The folder's own scripts still load.
function FolderScripts()
    return dofile("inside.lua") == 42 and loadfile("inside.lua")() == 42
end

-- Compiled chunks are refused; text still loads.
function NoCompiledChunks()
    local ok, compiled = pcall(string.dump, function() return 1 end)
    return ok and load(compiled) == nil and loadstring(compiled) == nil and load(compiled, "c", "b") == nil
        and load("return 1")() == 1 and loadstring("return 2")() == 2
end
