/* Signs a program in place the way a signing tool lays a signature out, with
 * a fixed certificate table in place of a real one: zeros up to a multiple
 * of 8 bytes, the table, the certificate table entry (data directory 4)
 * pointing at it and a checksum. Lets a test run saverpack.exe's --sign
 * through cmd /c where no real signing tool runs.
 *
 *   fake_sign FILE    exit status 0 when signed; 1, with a message, otherwise */
#include <stdio.h>
#include <string.h>

static unsigned get32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | (unsigned)p[3] << 24;
}

static void put32(unsigned char* p, unsigned value) {
  for (int i = 0; i < 4; ++i) p[i] = (unsigned char)(value >> (8 * i));
}

int main(int argc, char** argv) {
  static const unsigned char table[24] = {24,  0,   0,   0,   0,   2,   2,   0,
                                          'f', 'a', 'k', 'e', ' ', 's', 'i', 'g',
                                          'n', 'e', 'd', ' ', 'd', 'a', 't', 'a'};
  unsigned char header[4096] = {0};
  FILE* file = argc == 2 ? fopen(argv[1], "r+b") : NULL;
  if (!file) {
    fprintf(stderr, "fake_sign: cannot open %s\n", argc == 2 ? argv[1] : "(no file given)");
    return 1;
  }
  size_t got = fread(header, 1, sizeof(header), file);
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  unsigned pe = get32(header + 0x3c);
  if (got < 0x40 || pe + 24 + 112 + 40 > got || memcmp(header + pe, "PE\0\0", 4) != 0) {
    fprintf(stderr, "fake_sign: %s is no program\n", argv[1]);
    return 1;
  }
  unsigned optional = pe + 24;
  unsigned directories = optional + (header[optional + 1] == 2 ? 112 : 96);
  long padded = (size + 7) & ~7L;
  for (long at = size; at < padded; ++at) fputc(0, file);
  fwrite(table, 1, sizeof(table), file);
  put32(header + optional + 64, 0x5A5A5A5Au);
  put32(header + directories + 32, (unsigned)padded);
  put32(header + directories + 36, sizeof(table));
  fseek(file, 0, SEEK_SET);
  fwrite(header, 1, got, file);
  if (fclose(file) != 0) return 1;
  printf("fake_sign: signed %s\n", argv[1]);
  return 0;
}
