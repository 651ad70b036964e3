deep break deep:28 run run into into into into out out out out print v next print w
