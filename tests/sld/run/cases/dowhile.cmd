forms break forms:10 break forms:12 run run run print v next next next next
