-- The idiomatic Lua way to build a string piece by piece: a buffer joined at the end.
local function Appends(n)
  local parts = {}
  for i = 1, n do parts[#parts + 1] = 'x' end
  return table.concat(parts)
end
local t = os.clock(); local r = Appends(1000000); print(os.clock() - t, #r)
