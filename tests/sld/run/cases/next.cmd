stepper run next next next next next next next next next run
