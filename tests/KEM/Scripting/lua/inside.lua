-- Loaded by escape.lua from the script folder.
return 42
