// The recording tests load the printing library, which reads the system's
// font configuration through fontconfig; fontconfig keeps a few blocks of
// its parsed configuration to the end of the process without a reference
// the leak checker can see. That is the system library's business, not the
// engine's: the sanitizer build is told to pass over it, and only it.

extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
