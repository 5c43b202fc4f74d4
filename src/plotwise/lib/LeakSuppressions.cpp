// Fontconfig loses a few hundred bytes while it parses its configuration
// files, once per process, and cairo 1.16 loses a buffer while it finishes
// a PDF with some fonts, both out of reach of any caller. Programs built
// with the leak sanitizer link this file so that the leak check reports
// only leaks of our own. It changes nothing in other builds.

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libcairo.so\n";
}
