deep break deep:13 run run clear deep:13 print n next print n print calls print r
