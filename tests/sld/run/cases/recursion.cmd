stepper break stepper:35 run run clear stepper:35 next next next next next next next next
