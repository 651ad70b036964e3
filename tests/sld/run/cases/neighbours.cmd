forms break forms:31 break forms:41 run run next next next next next next next next next next print s clear forms:31 run next next next next run next next next next
