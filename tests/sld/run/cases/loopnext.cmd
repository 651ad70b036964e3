loops break loops:8 run run next next print k next next print k
