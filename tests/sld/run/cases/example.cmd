stepper break stepper:48 run run print a print counter into next out out next print b print results.*
