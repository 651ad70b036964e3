fib break fib:8 run run run run clear fib:8 print n out print n print calls out next print n print calls
