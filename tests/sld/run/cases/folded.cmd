forms break forms:22 run run run run run run run clear forms:22 next next print i next
