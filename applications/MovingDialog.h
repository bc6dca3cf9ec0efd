#pragma once
// The moving dialog `ftrMoving`: the applications of this year and later of the trainee's
// generation on the left, the current trainee on the right; "Перемещение" puts the trainee into
// the application chosen, "Копирование" puts a copy of it there. Both refuse, saying why, when
// there is no trainee or no application to take it.
#include "applications/Generation.h"

#include "shell/ActivatedDialog.h"

class DbGrid;
class WindowHost;

class MovingDialog : public ActivatedDialog {
    Q_OBJECT
public:
    MovingDialog(WindowHost& main, const Generation& generation);

    void activated() override;
    void moveTrainee(); // "Перемещение"
    void copyTrainee(); // "Копирование"
    void cancel();      // "Отмена"

protected:
private:
    // False, after saying why, when the trainee cannot be moved or copied now.
    bool canMove();

    WindowHost& main_;
    const Generation& g_;
    DbGrid* targets_;
};
