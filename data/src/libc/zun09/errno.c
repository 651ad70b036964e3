/* The error number of the library. */
int errno;
