forms break forms:55 run run next next next next next next next next next
