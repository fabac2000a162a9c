/* How long one process waits for another on this machine: the mean time of a byte sent to a
 * child process and back through two pipes. Every call a Wine program makes to the Wine server
 * is such a round trip, so this figure sets the pace of registry access and process start-up
 * under Wine; on a virtual machine it rises when the processors have been idle.
 *   round-trip [count]     (default 20000)        prints "<microseconds>" */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <sys/wait.h>

int main(int argc, char** argv) {
    const int count = argc > 1 ? atoi(argv[1]) : 20000;
    int there[2], back[2];
    char byte = 0;
    if (count <= 0 || pipe(there) != 0 || pipe(back) != 0)
        return 1;
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        for (int i = 0; i < count; ++i)
            if (read(there[0], &byte, 1) != 1 || write(back[1], &byte, 1) != 1)
                _exit(1);
        _exit(0);
    }
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int i = 0; i < count; ++i)
        if (write(there[1], &byte, 1) != 1 || read(back[0], &byte, 1) != 1)
            return 1;
    clock_gettime(CLOCK_MONOTONIC, &end);
    waitpid(child, NULL, 0);
    const double ns = (end.tv_sec - start.tv_sec) * 1e9 + (end.tv_nsec - start.tv_nsec);
    printf("%.1f\n", ns / count / 1000.0);
    return 0;
}
