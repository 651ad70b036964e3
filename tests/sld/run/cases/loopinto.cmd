loops break loops:8 run run into into print k into print k
