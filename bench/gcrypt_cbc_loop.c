/* The peer of bench/file_crypt_vs_gcrypt.sh: the plainest file encryption
 * libgcrypt allows. It writes a random IV, then reads the file in 1 MiB
 * pieces, encrypts each in CBC mode and writes it, pads the last piece to a
 * whole block, and syncs the output, as a container's writer must.
 *
 * Usage: gcrypt_cbc_loop aes256|camellia256 INPUT OUTPUT */
#include <fcntl.h>
#include <gcrypt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kPiece = 1 << 20, kBlock = 16 };

static int write_all(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t done = write(fd, data, size);
        if (done <= 0) return -1;
        data += done;
        size -= (size_t)done;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const int algo = strcmp(argv[1], "camellia256") == 0 ? GCRY_CIPHER_CAMELLIA256
                                                          : GCRY_CIPHER_AES256;
    gcry_check_version(NULL);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    gcry_cipher_hd_t cipher;
    unsigned char key[32] = {'p', 'w'};
    unsigned char iv[kBlock];
    gcry_randomize(iv, sizeof iv, GCRY_STRONG_RANDOM);
    if (gcry_cipher_open(&cipher, algo, GCRY_CIPHER_MODE_CBC, 0) ||
        gcry_cipher_setkey(cipher, key, sizeof key) || gcry_cipher_setiv(cipher, iv, sizeof iv))
        return 1;
    const int in = open(argv[2], O_RDONLY);
    const int out = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0600);
    unsigned char* piece = malloc(kPiece + kBlock);
    if (in < 0 || out < 0 || piece == NULL || write_all(out, iv, sizeof iv)) return 1;
    for (;;) {
        size_t got = 0;
        ssize_t n = 1;
        while (got < kPiece && (n = read(in, piece + got, kPiece - got)) > 0) got += (size_t)n;
        if (n < 0) return 1;
        const int last = got < kPiece;
        if (last) {
            const size_t pad = kBlock - got % kBlock;
            memset(piece + got, (int)pad, pad);
            got += pad;
        }
        if (gcry_cipher_encrypt(cipher, piece, got, NULL, 0) || write_all(out, piece, got))
            return 1;
        if (last) break;
    }
    if (fsync(out) != 0 || close(out) != 0) return 1;
    gcry_cipher_close(cipher);
    free(piece);
    return 0;
}
