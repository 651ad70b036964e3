inf break inf:6 break inf:11 run run print g run print g next next run print g next
