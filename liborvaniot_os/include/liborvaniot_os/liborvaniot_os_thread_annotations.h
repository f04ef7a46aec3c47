// Lock rules written into the code, so that the compiler checks them: clang's thread-safety
// analysis (scripts/thread-safety-check.sh runs it over the tree) reads these; other compilers see
// nothing. A tracked lock (struct_plock) is a capability; GUARDED_BY names the lock a value needs,
// REQUIRES the lock a function expects its caller to hold.
#pragma once

#if defined(__clang__)
#define ORVAN_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define ORVAN_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(name) ORVAN_THREAD_ANNOTATION(capability(name))
#define SCOPED_CAPABILITY ORVAN_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(lock) ORVAN_THREAD_ANNOTATION(guarded_by(lock))
#define PT_GUARDED_BY(lock) ORVAN_THREAD_ANNOTATION(pt_guarded_by(lock))
#define REQUIRES(...) ORVAN_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) ORVAN_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) ORVAN_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) ORVAN_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) ORVAN_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
#define ASSERT_CAPABILITY(lock) ORVAN_THREAD_ANNOTATION(assert_capability(lock))
#define RETURN_CAPABILITY(lock) ORVAN_THREAD_ANNOTATION(lock_returned(lock))
// For the few functions whose locking the analysis cannot follow; each use says why.
#define NO_THREAD_SAFETY_ANALYSIS ORVAN_THREAD_ANNOTATION(no_thread_safety_analysis)
