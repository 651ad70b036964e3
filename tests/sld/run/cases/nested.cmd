forms break forms:71 run run next next next next next next next next next next next next next print s
