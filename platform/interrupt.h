// The user's interrupt (Ctrl+C), caught so that a long run can stop at a
// point of its choosing: its workers finish what they hold, its files stay
// whole, and it says how far it got.
#pragma once

namespace dravonix {

/// The exit code of a run that stopped for an interrupt, as POSIX shells
/// report Ctrl+C (128 + SIGINT).
inline constexpr int kInterruptedExitCode = 130;

/// From now on, the first interrupt does not end the program but makes
/// Interrupted() true: SIGINT and SIGTERM on POSIX systems, Ctrl+C and
/// Ctrl+Break of a Windows console. A further interrupt ends the program at
/// once, as it would without this (the temporary files of the saves under
/// way removed). An interrupt the program was started to ignore stays
/// ignored.
void CatchInterrupts();

/// True once a caught interrupt came. Safe to call from any thread.
bool Interrupted();

/// For the platform's CatchInterrupts: interrupts are caught from now on.
void StartCatchingInterrupts();

/// For the platform's signal and console handlers: when interrupts are
/// caught and none came yet, records this one and returns true (the program
/// goes on); otherwise false (the handler ends the program). Async-signal-safe.
bool TakeInterrupt();

}  // namespace dravonix
