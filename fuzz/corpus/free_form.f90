subroutine axpy(n, a, x, y)
  implicit none
  integer :: n, i
  real(8) :: a, x(n), y(n)
!Vexnor$ Vexnor_ENDTUNESIZE = 100
!Vexnor$ static unroll (i) region start
!Vexnor$ varied (i) from 1 to 2
  do i = 1, n
    y(i) = y(i) + a * &
      x(i)
  end do
!Vexnor$ static unroll (i) region end
end subroutine axpy
