#pragma once
class QWidget;
namespace qo {
// The About box "Névjegy": program name and version, the maker's contact block.
void ShowAboutBox(QWidget *parent);
} // namespace qo
