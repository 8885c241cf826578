#include "CheckTreeObserver.h"

CCheckTreeObserver::~CCheckTreeObserver() = default;
void CCheckTreeObserver::OnBeforeInsertItem(TvTreeItem, int) {}
void CCheckTreeObserver::OnAfterInsertItem(TvTreeItem) {}
void CCheckTreeObserver::OnBeforeDeleteItem(TvTreeItem) {}
void CCheckTreeObserver::OnAfterDeleteItem() {}
void CCheckTreeObserver::OnBeforeDeleteAll() {}
void CCheckTreeObserver::OnAfterDeleteAll() {}
void CCheckTreeObserver::OnItemChanged(TvTreeItem) {}
