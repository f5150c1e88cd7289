/* The baseline of the single-file comparisons: the least a program can do to look at a file,
   open it and read its first N bytes (a TIFF header: 8 bytes in a classic TIFF, 16 in a
   BigTIFF).
     readhead N FILE */
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv) {
    char header[64];
    if (argc < 3)
        return 2;
    size_t size = (size_t)atoi(argv[1]);
    if (size == 0 || size > sizeof header)
        return 2;
    int descriptor = open(argv[2], O_RDONLY);
    if (descriptor < 0)
        return 1;
    ssize_t got = read(descriptor, header, size);
    close(descriptor);
    return got == (ssize_t)size ? 0 : 1;
}
