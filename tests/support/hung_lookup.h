#pragma once
// A name server that never answers for the names under ".hang.test": a lookup of one waits
// until the test lets every such lookup go, as a dead name server holds a resolver thread.
// Linking this file puts its getaddrinfo in front of the C library's for the whole binary.

namespace tickora::test {

// Lookups of a hanging name started so far, waited for at most timeoutMs until there are n.
int HungLookups();
bool WaitForHungLookups(int n, int timeoutMs);
// Lets every hanging lookup, and every later one, return a failure.
void ReleaseHungLookups();

}  // namespace tickora::test
