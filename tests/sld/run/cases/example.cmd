stepper break stepper:48 run run print a print counter into next out out out out out out next print b print results.*
