#include "fixture.h"

#include "platform/classes/collection.h"
#include "platform/classes/component.h"
#include "script/lib/bindkit.h"
#include "support/test_support.h"

namespace {

class TDerivedComponent : public TComponent {
  ORV_CLASS(TDerivedComponent, TComponent)
  explicit TDerivedComponent(TComponent* owner) : TComponent(owner) {}
};

}  // namespace

ORV_DESCRIBE(TDerivedComponent) {}

namespace {

TEST(CreateInstanceTest, NeverConstructsALiveObjectAgain) {
  TComponent owner(nullptr);
  TObject* fresh = bindkit::CreateInstance(nullptr, TComponent::StaticClass(), &owner);
  ASSERT_EQ(fresh->ClassType(), TComponent::StaticClass());
  EXPECT_EQ(static_cast<TComponent*>(fresh)->Owner(), &owner);

  auto* live = new TDerivedComponent(nullptr);
  live->SetName(S("Live"));
  TObject* another = bindkit::CreateInstance(live, TComponent::StaticClass(), nullptr);
  EXPECT_NE(another, live);
  EXPECT_EQ(another->ClassType(), TDerivedComponent::StaticClass());
  EXPECT_EQ(live->Name(), S("Live"));  // untouched

  TCollection unrelated(TCollectionItem::StaticClass());
  EXPECT_EQ(LibTest::ErrorOf(
                [&] { bindkit::CreateInstance(&unrelated, TComponent::StaticClass(), nullptr); }),
            S("TOrvError:  ... \"CheckClass\" ... TCollection. ... \"is not\" ... TComponent"));
  another->Free();
  live->Free();
}

}  // namespace
