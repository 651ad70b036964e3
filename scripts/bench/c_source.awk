# Writes a generated C source of about n lines for the compiler benchmark:
# ordinary functions with locals, loops, calls, arithmetic, structures and
# string literals, in four shapes that take turns, and a main that calls them.
#   awk -v n=45000 -f c_source.awk
BEGIN {
  if (n < 100) n = 100
  print "extern int printf(const char *fmt, ...);"
  print "extern int puts(const char *s);"
  print "extern char *strcpy(char *d, const char *s);"
  print "struct point { int x; int y; };"
  print "struct item { char name[12]; int count; long total; struct point at; struct item *next; };"
  print "static struct item pool[8];"
  print "static int table[32];"
  print "static long sum;"
  print ""
  lines = 10
  for (f = 0; lines + lines / 19 + 360 < n; f++) {
    shape = f % 4
    if (shape == 0) lines += sum_shape(f)
    else if (shape == 1) lines += list_shape(f)
    else if (shape == 2) lines += text_shape(f)
    else lines += point_shape(f)
  }
  # The calls go in groups of 40, each group a function of its own.
  for (i = 0; i < f; i++) {
    if (i % 40 == 0) {
      if (i > 0) print "    return r;\n}\n"
      printf "int run%d(void)\n{\n    int r = 0;\n", i / 40
    }
    if (i % 4 == 1) printf "    r += f%d(&pool[%d], %d);\n", i, i % 8, i % 7
    else if (i % 4 == 3) printf "    r += f%d(%d, %d);\n", i, i % 100, i % 13
    else printf "    r += f%d(%d);\n", i, i % 50
  }
  print "    return r;\n}\n"
  print "int main(void)\n{\n    int r = 0;"
  for (i = 0; i < f; i += 40) printf "    r += run%d();\n", i / 40
  print "    return r;\n}"
}

# Sums over the table with a loop, a condition and a call.
function sum_shape(f) {
  printf "int f%d(int n)\n", f
  print "{"
  print "    int i;"
  print "    int acc = 0;"
  printf "    unsigned mask = %du;\n", (f * 37) % 65536
  print "    for (i = 0; i < n && i < 32; i++) {"
  printf "        acc += table[i] * %d + (i << 2);\n", f % 9 + 2
  print "        if (acc > 1000)"
  printf "            acc -= %d;\n", f % 500 + 1
  print "        mask ^= (unsigned)acc >> 3;"
  print "    }"
  print "    while (mask > 7)"
  print "        mask /= 3;"
  printf "    sum += (long)acc * %dL;\n", f % 17 + 1
  printf "    if (acc %% %d == 0)\n", f % 5 + 2
  printf "        (void)puts(\"sum %d is even\");\n", f
  print "    return acc + (int)mask;"
  print "}"
  print ""
  return 19
}

# Walks a list of structures, counting and naming.
function list_shape(f) {
  printf "int f%d(struct item *p, int limit)\n", f
  print "{"
  print "    int seen = 0;"
  print "    long total = 0;"
  print "    struct item *q;"
  print "    for (q = p; q != 0 && seen < limit; q = q->next) {"
  print "        total += q->total + q->count;"
  printf "        q->at.x += %d;\n", f % 11
  print "        q->at.y = q->at.x - seen;"
  print "        if (q->name[0] == 0)"
  printf "            (void)strcpy(q->name, \"item%d\");\n", f
  print "        seen++;"
  print "    }"
  print "    do {"
  print "        total >>= 1;"
  print "    } while (total > 100000L);"
  printf "    (void)printf(\"list %d: %%d %%ld\\n\", seen, total);\n", f
  print "    return seen;"
  print "}"
  print ""
  return 20
}

# Scans characters of a local buffer, with a switch.
function text_shape(f) {
  printf "int f%d(int key)\n", f
  print "{"
  print "    char buf[24];"
  print "    char *s;"
  print "    int vowels = 0, others = 0;"
  printf "    (void)strcpy(buf, \"word %d for the scan\");\n", f
  print "    for (s = buf; *s; s++) {"
  print "        switch (*s) {"
  print "        case 'a': case 'e': case 'i': case 'o': case 'u':"
  print "            vowels++;"
  print "            break;"
  print "        default:"
  print "            others += (*s ^ key) & 15;"
  print "        }"
  print "    }"
  printf "    table[key & 31] = vowels * %d - others;\n", f % 13 + 1
  print "    return vowels;"
  print "}"
  print ""
  return 19
}

# Local structures passed by address and compared.
function point_shape(f) {
  printf "int f%d(int a, int b)\n", f
  print "{"
  print "    struct point p, q;"
  print "    int d;"
  printf "    p.x = a + %d;\n", f % 23
  print "    p.y = b - a;"
  print "    q = p;"
  print "    q.x *= 3;"
  print "    d = q.x - p.y;"
  print "    if (d < 0)"
  print "        d = -d;"
  print "    while (d >= 64)"
  print "        d = d / 2 + (d & 1);"
  printf "    pool[%d].at = q;\n", f % 8
  printf "    pool[%d].count += d;\n", (f + 3) % 8
  print "    return d + p.x;"
  print "}"
  print ""
  return 18
}
