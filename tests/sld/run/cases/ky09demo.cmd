ky09demo break main:50 run run print demo.* into next next next print pattern print phase print turn out out next next next print key
