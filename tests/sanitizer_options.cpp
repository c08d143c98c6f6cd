// Built into every test program of a sanitizer build. Up to clang 16 the sanitizer runtime's
// interception of __tls_get_addr takes a library's thread-local block for one with a pre-2.25
// glibc header whenever its address falls on a particular offset within a page, and the leak
// checker then crashes at exit without a report. The program loads its codec library (and with
// it libjpeg's thread-local state) for each operation, which meets that by chance. ASAN_OPTIONS
// still applies on top of this.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
