// Reading a numbered series of input files on two threads with the outcome
// of reading them one after another.
//
// Items 1 to count are handed out in increasing order to whichever thread is
// free: the calling thread and, when asked for, one helper thread. Each item
// is read exactly once, into places of its own. When an item's reading
// throws, no item after it is handed out any more; once both threads are
// done, the exception of the lowest failed item is rethrown. Every item
// before that one has then been read, as in a one-pass reading that stops
// at its first failure; items after it may also have been read, which
// changes nothing the caller keeps, since the failure ends the run.
#ifndef LPGM_INPUT_READ_IN_ORDER_H_
#define LPGM_INPUT_READ_IN_ORDER_H_

#include <functional>

namespace lpgm {

// Calls read(1), ..., read(count) as above; `read` must be safe to call
// from two threads at once for different items. Without a helper (or when
// no thread can be had) the calls are made in order on the calling thread
// and the first exception goes straight through.
void ReadInOrder(int count, const std::function<void(int)>& read,
                 bool use_helper);

}  // namespace lpgm

#endif  // LPGM_INPUT_READ_IN_ORDER_H_
