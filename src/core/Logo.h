#pragma once
namespace qo {
// Shows the fading splash picture frm_Logo without blocking; it destroys itself.
void ShowSplash();
} // namespace qo
