inf break inf:8 run run print g next next next next next print g
