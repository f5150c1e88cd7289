/* The baseline of the single-file comparison: the least a program can do to look at a file,
   open it and read its first 8 bytes (a TIFF header). */
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    char header[8];
    if (argc < 2)
        return 2;
    int descriptor = open(argv[1], O_RDONLY);
    if (descriptor < 0)
        return 1;
    ssize_t got = read(descriptor, header, sizeof header);
    close(descriptor);
    return got == (ssize_t)sizeof header ? 0 : 1;
}
