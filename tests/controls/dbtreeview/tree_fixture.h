#pragma once
// A small object tree in a schema of its own on the test cluster, with the three datasets
// of the data-aware tree over it: roots (:Root), children (:Ident) and the path from the
// root down to an item (:Root, :Ident).
//
//   1 Корень
//     2 Документы
//       4 Договоры          text style 1
//         7 Договор 1
//         8 Договор 2
//       5 Счета             disabled, one child (9)
//     3 Справочники
//       6 Пусто             no children: COUNT 0
//     10 Без счёта          COUNT null
#include "controls/dbtreeview.h"

#include "platform/data/datasource.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"

#include <gtest/gtest.h>

#include <memory>

// Counts the times a dataset opens.
class TOpenCounter : public TObject {
 public:
  int Opens = 0;
  void Opened(TDataSet*) { ++Opens; }
};

// Keeps the ids OnAfterChange reports.
class TAfterChangeRecorder : public TObject {
 public:
  std::vector<Variant> Ids;
  void Fired(TObject*, const Variant& id) { Ids.push_back(id); }
};

class TreeDb : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs SQL in the test schema.
  void Exec(const QString& sql);
  // A query of the schema with its data source.
  TZReadOnlyQuery* Query(const QString& sql, TDataSource** source = nullptr);
  // The node of an id, failing the test when missing.
  TDBTreeNode* Node(const Variant& id);
  QStringList Captions() const;  // every node in display order, indented by level

  QString schema;
  std::unique_ptr<TComponent> owner;
  TZConnection* conn = nullptr;
  TZReadOnlyQuery* roots = nullptr;
  TZReadOnlyQuery* children = nullptr;
  TZReadOnlyQuery* path = nullptr;
  TDataSource *rootsSource = nullptr, *childrenSource = nullptr, *pathSource = nullptr;
  TDBTreeView* tree = nullptr;
  TOpenCounter childOpens;
  TAfterChangeRecorder afterChange;
};
