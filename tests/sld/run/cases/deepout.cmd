deep break deep:9 run run run clear deep:9 print n out print n print r print calls out print n next print r
