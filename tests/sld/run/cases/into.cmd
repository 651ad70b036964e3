stepper run next next next into into into into into into into into into into next into next into into into into into into into into into into into into into out out print n
