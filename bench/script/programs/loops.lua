local function Loops(n)
  local s = 0
  for i = 1, n do for j = 1, n do s = s + (i * j) % 7 end end
  return s
end
local t = os.clock(); local r = Loops(1000); print(os.clock() - t, r)
