/* Preloaded into a program under test (LD_PRELOAD) to play a file system that
 * answers in a way this machine's does not. MIRUNEA_FAULT selects one:
 *   lock-EINVAL, lock-EOPNOTSUPP, lock-ENOSYS   F_OFD_SETLK fails so
 *   open-EBUSY                                  every open of an .ans (or one being
 *                                               written) or data.txt fails so
 *   create-race                                 O_CREAT|O_EXCL says "exists", the
 *                                               plain open then says "missing" */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

static const char* fault(void)
{
    const char* value = getenv("MIRUNEA_FAULT");
    return value ? value : "";
}

static int watchedName(const char* name)
{
    static const char sending[] = ".ans.sending";
    const size_t length = strlen(name);
    return (length >= 4 && strcmp(name + length - 4, ".ans") == 0)
        || (length >= sizeof sending - 1 && strcmp(name + length - (sizeof sending - 1), sending) == 0)
        || strcmp(name, "data.txt") == 0;
}

static int lockFault(int command)
{
    if (command != F_OFD_SETLK)
        return 0;
    if (strcmp(fault(), "lock-EINVAL") == 0)
        return EINVAL;
    if (strcmp(fault(), "lock-EOPNOTSUPP") == 0)
        return EOPNOTSUPP;
    if (strcmp(fault(), "lock-ENOSYS") == 0)
        return ENOSYS;
    return 0;
}

typedef int (*FcntlFunction)(int, int, ...);
typedef int (*OpenFunction)(const char*, int, ...);

/* The next definition of a symbol; copied, since ISO C has no cast from an
 * object pointer to a function pointer. */
static void nextSymbol(const char* symbol, void* function, size_t size)
{
    void* address = dlsym(RTLD_NEXT, symbol);
    if (!address)
        abort();
    memcpy(function, &address, size);
}

static int fcntlThrough(const char* symbol, int fd, int command, void* argument)
{
    const int error = lockFault(command);
    if (error != 0) {
        errno = error;
        return -1;
    }
    FcntlFunction next;
    nextSymbol(symbol, &next, sizeof next);
    return next(fd, command, argument);
}

// fcntl and its 64-bit twin alike: the third argument passed on as it came.
#define FAULT_SHIM_FCNTL(symbol)                                   \
    int symbol(int fd, int command, ...)                           \
    {                                                              \
        va_list arguments;                                         \
        va_start(arguments, command);                              \
        void* argument = va_arg(arguments, void*);                 \
        va_end(arguments);                                         \
        return fcntlThrough(#symbol, fd, command, argument);       \
    }

FAULT_SHIM_FCNTL(fcntl)
FAULT_SHIM_FCNTL(fcntl64)

static int openThrough(const char* symbol, const char* name, int flags, mode_t mode)
{
    if (watchedName(name)) {
        if (strcmp(fault(), "open-EBUSY") == 0) {
            errno = EBUSY;
            return -1;
        }
        if (strcmp(fault(), "create-race") == 0) {
            errno = (flags & O_EXCL) ? EEXIST : ENOENT;
            return -1;
        }
    }
    OpenFunction next;
    nextSymbol(symbol, &next, sizeof next);
    return next(name, flags, mode);
}

// open and its 64-bit twin alike: the mode is there only when a file may be created.
#define FAULT_SHIM_OPEN(symbol)                                                                 \
    int symbol(const char* name, int flags, ...)                                                \
    {                                                                                           \
        va_list arguments;                                                                      \
        va_start(arguments, flags);                                                             \
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;    \
        va_end(arguments);                                                                      \
        return openThrough(#symbol, name, flags, mode);                                         \
    }

FAULT_SHIM_OPEN(open)
FAULT_SHIM_OPEN(open64)
