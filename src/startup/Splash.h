#pragma once
namespace qo {
// Shows the fading splash picture frm_Logo without blocking; it destroys itself.
void ShowSplash();
// On by default; tests and benchmarks switch it off.
void SetSplashEnabled(bool on);
} // namespace qo
