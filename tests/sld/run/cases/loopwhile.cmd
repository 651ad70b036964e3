loops break loops:10 run run into print n into print n next print n
