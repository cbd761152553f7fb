// The grouped list view: groups that own their items, a header with
// columns, a flat view over all items, the persistent base classes of every
// list-view object, the 16-bit state word with its query / change / notify
// protocol, the collection stream, the stored, virtual and interfaced kinds
// of items, groups and columns, sorting and automatic grouping, and the
// control that owns it all.
//
// Ownership: the control owns Groups, Items (a view), Header (which owns
// Columns) and its managers; a group owns its Items collection; a
// collection owns its entries. Entries and collections die through Free()
// (their destructors are protected), so their destruction steps run while
// they are still complete.
//
// This header is the one users include; the unit is split into file pairs by
// class family (GvBase, GvPaintInfo, GvCollections, ... GvViews, GvEditing, GvListviewControl,
// GvServices).
#pragma once

#include "listview/GvBase.h"
#include "listview/GvPaintInfo.h"
#include "listview/GvCollections.h"
#include "listview/GvGroups.h"
#include "listview/GvColumns.h"
#include "listview/GvHeader.h"
#include "listview/GvSelection.h"
#include "listview/GvInput.h"
#include "listview/GvScrollbars.h"
#include "listview/GvDragDrop.h"
#include "listview/GvSearch.h"
#include "listview/GvGrids.h"
#include "listview/GvSort.h"
#include "listview/GvBackground.h"
#include "listview/GvViews.h"
#include "listview/GvItemViews.h"
#include "listview/GvEditing.h"
#include "listview/GvListviewControl.h"
#include "listview/GvHints.h"
#include "listview/GvServices.h"
