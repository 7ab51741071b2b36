// Defaults of the sanitizer runtime for every program of the sanitizer build.
//
// intercept_tls_get_addr=0: GCC 12's runtime takes a dynamic TLS block whose address
// is 16 bytes past a page boundary for an old glibc header and reads the two words
// before it as a range. The GL driver's threads hold such blocks now and then, and the
// leak checker then crashes at exit after every test has passed. Without the
// interception the leak checker skips dynamic TLS, which only the driver uses here.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
