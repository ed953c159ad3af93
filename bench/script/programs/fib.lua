local function Fib(n) if n < 2 then return n else return Fib(n - 1) + Fib(n - 2) end end
local t = os.clock(); local r = Fib(27); print(os.clock() - t, r)
