stepper break stepper:39 run run out out next into out into next next out next
