/* Preloaded into the program by the random-use driver: moves the wall clock by the number of
 * seconds written in the file that VX_CLOCK_SHIFT_FILE names, read again at most five times a
 * second, so the driver can jump the clock while the program runs. The monotonic clock is left
 * alone, as the timers need.
 *
 * Debian 12's libfaketime (0.9.10) hangs at start-up in a program built with clang's
 * AddressSanitizer (its runtime is linked in statically and calls the clock before libfaketime is
 * set up); this does the one thing the driver needs with raw system calls only: no dlsym, no
 * allocation, nothing the sanitizer's own interceptors could call back into. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

static long long g_shift;     /* seconds */
static long long g_read_at;   /* monotonic nanoseconds of the last reading; 0: never read */

static long long monotonic_ns(void)
{
    struct timespec ts;
    syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

static long long shift(void)
{
    const long long now = monotonic_ns();
    const long long last = __atomic_load_n(&g_read_at, __ATOMIC_RELAXED);
    if (last != 0 && now - last < 200000000LL)
        return __atomic_load_n(&g_shift, __ATOMIC_RELAXED);
    __atomic_store_n(&g_read_at, now, __ATOMIC_RELAXED);
    const char* path = getenv("VX_CLOCK_SHIFT_FILE");
    if (!path)
        return 0;
    const int fd = (int)syscall(SYS_openat, AT_FDCWD, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return __atomic_load_n(&g_shift, __ATOMIC_RELAXED);
    char text[32];
    const long n = (long)syscall(SYS_read, fd, text, sizeof text - 1);
    syscall(SYS_close, fd);
    if (n <= 0)
        return __atomic_load_n(&g_shift, __ATOMIC_RELAXED);
    long long value = 0;
    int negative = 0, i = 0;
    if (text[0] == '-' || text[0] == '+')
        negative = text[i++] == '-';
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    value = negative ? -value : value;
    __atomic_store_n(&g_shift, value, __ATOMIC_RELAXED);
    return value;
}

int clock_gettime(clockid_t id, struct timespec* ts)
{
    const int rc = (int)syscall(SYS_clock_gettime, id, ts);
    if (rc == 0 && (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE))
        ts->tv_sec += shift();
    return rc;
}

int gettimeofday(struct timeval* tv, void* tz)
{
    (void)tz;
    struct timespec ts;
    if (clock_gettime(CLOCK_REALTIME, &ts) != 0)
        return -1;
    tv->tv_sec = ts.tv_sec;
    tv->tv_usec = ts.tv_nsec / 1000;
    return 0;
}

time_t time(time_t* out)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    if (out)
        *out = ts.tv_sec;
    return ts.tv_sec;
}
